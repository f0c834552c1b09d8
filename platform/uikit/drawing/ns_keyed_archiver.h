#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

class UIColor;

// Turns a colour into the bytes the settings store keeps ("archived colour"). Other programs read these
// bytes from the app-group suite, so the format is fixed: a UTF-8 XML property-list document
//
//   <?xml version="1.0" encoding="UTF-8"?>
//   <plist version="1.0">
//   <dict>
//       <key>archiver</key>   <string>NSKeyedArchiver</string>
//       <key>class</key>      <string>UIColor</string>
//       <key>colorSpace</key> <string>rgb</string>          ("rgb" or "white")
//       <key>components</key> <array><real>1</real><real>0.250980407</real>…</array>
//       <key>version</key>    <integer>1</integer>
//   </dict>
//   </plist>
//
// with the keys in that order, one element per line (tab-indented), and the components red, green, blue,
// alpha for "rgb" or white, alpha for "white": single-precision values written with nine significant
// digits, so that reading them back as single precision gives the very same colour.
class NSKeyedArchiver {
public:
    static constexpr int kFormatVersion = 1;

    // The archive of the colour; a null colour gives no bytes.
    static std::vector<std::uint8_t> archivedDataWithRootObject(const std::shared_ptr<UIColor>& color);
};

}  // namespace platform
