#include "shell/shell_options.h"

#include <cstdio>

#include "shell/device_choices.h"

namespace quorvel::shell {

namespace {

ShellOptions::Exit error(const std::string& message) {
    return {2, "quorvel: " + message + "\n"};
}

std::string listOfDevices() {
    std::string out;
    for (const auto& model : platform::DeviceProfile::knownModels()) {
        char line[160];
        std::snprintf(line, sizeof line, "%-16s %s, %gx%g points at %gx\n", model.identifier.c_str(),
                      model.description.c_str(), model.portraitSize.width, model.portraitSize.height,
                      model.scale);
        out += line;
    }
    return out;
}

}  // namespace

std::string ShellOptions::usage() {
    return "Usage: quorvel [--device MODEL] [--orientation NAME] [--split SHARE]\n"
           "       quorvel --list-devices | --help\n"
           "\n"
           "Shows Quorvel on an emulated phone or tablet in a desktop window.\n"
           "\n"
           "  --device MODEL      the device to emulate (see --list-devices); default: the last one used,\n"
           "                      else " +
           std::string(kDefaultDevice) +
           "\n"
           "  --orientation NAME  " +
           DeviceChoices::orientationNames() +
           "\n"
           "  --split SHARE       the app's share of a tablet's screen: " +
           DeviceChoices::splitNames() +
           "\n"
           "  --list-devices      the device models and their screens\n"
           "  --help              this text\n"
           "\n"
           "Keys: 1 portrait, 2 upside down, 3 landscape left, 4 landscape right, 5 face up, 6 face down,\n"
           "      S the next split share (tablets), F12 a screenshot, Ctrl+Q close.\n"
           "The app keeps its data in $QUORVEL_HOME (default ${XDG_DATA_HOME:-~/.local/share}/quorvel).\n";
}

ShellOptions ShellOptions::parse(const std::vector<std::string>& arguments) {
    ShellOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string name = arguments[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name == "--help" || name == "-h") {
            options.exit = Exit{0, usage()};
            return options;
        }
        if (name == "--list-devices") {
            options.exit = Exit{0, listOfDevices()};
            return options;
        }
        const bool takesValue = name == "--device" || name == "--orientation" || name == "--split";
        if (!takesValue) {
            options.exit = error("unknown option '" + arguments[i] +
                                 "' (options: --device MODEL, --orientation NAME, --split SHARE, "
                                 "--list-devices, --help)");
            return options;
        }
        const std::string choices = name == "--device" ? DeviceChoices::modelNames(DeviceChoices::Models::all)
                                    : name == "--orientation" ? DeviceChoices::orientationNames()
                                                              : DeviceChoices::splitNames();
        if (!value) {
            if (i + 1 == arguments.size()) {
                options.exit = error(name + " needs a value, one of: " + choices);
                return options;
            }
            value = arguments[++i];
        }
        bool known = false;
        if (name == "--device") {
            known = DeviceChoices::model(*value).has_value();
            options.device = *value;
        } else if (name == "--orientation") {
            options.orientation = DeviceChoices::orientation(*value);
            known = options.orientation.has_value();
        } else {
            options.split = DeviceChoices::split(*value);
            known = options.split.has_value();
        }
        if (!known) {
            const std::string what = name == "--device" ? "device model" : name.substr(2);
            options.exit = error("unknown " + what + " '" + *value + "', choose one of: " + choices);
            return options;
        }
    }
    if (options.device && options.split && *options.split != 1 &&
        !DeviceChoices::canSplit(*DeviceChoices::model(*options.device))) {
        options.exit = splitNeedsTablet(*options.device);
    }
    return options;
}

ShellOptions::Exit ShellOptions::splitNeedsTablet(const std::string& model) {
    return error("--split needs a tablet and " + model +
                 " is none, choose one of: " + DeviceChoices::modelNames(DeviceChoices::Models::tablets));
}

}  // namespace quorvel::shell
