#include "tests/support/stand_in_decoder.h"

#include <cstdio>
#include <fstream>

namespace quorvel::testing {

// Every byte as an octal escape, which any shell's printf writes back as that byte.
std::string sayOnSocket(const std::string& bytes) {
    std::string escaped;
    for (const unsigned char byte : bytes) {
        char octal[5];
        std::snprintf(octal, sizeof octal, "\\%03o", byte);
        escaped += octal;
    }
    return "printf '" + escaped + "' >&3\n";
}

void StandInDecoder::writeTo(const std::filesystem::path& script) const {
    std::ofstream out(script);
    out << "#!/bin/sh\n";
    // The real program keeps the process the app started, so it still knows the app as its parent.
    if (!hostile.empty())
        out << "case \"$*\" in " << hostile << ") ;; *) exec '" << otherwise.string() << "' \"$@\";; esac\n";
    for (std::size_t i = 0; i < answers.size(); ++i) {
        // One read of the socket takes the app's whole request, whatever its size.
        if (i > 0) out << kTakeRequest << "\n";
        out << sayOnSocket(answers[i]);
    }
    out << (thenEnds ? "exit 0\n" : "exec sleep 3600\n");
    out.close();
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
}

}  // namespace quorvel::testing
