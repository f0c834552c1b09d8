// quorvel-sound-decoder: the program in which the app decodes a sound file it did not make, so that a file
// that leads a decoding library astray takes down only this process (see IsolatedSoundDecoder).
#include "platform/avfoundation/isolated_sound_decoder.h"

int main(int argc, char** argv) {
    return platform::IsolatedSoundDecoder::runChild(argc, argv);
}
