#include "platform/vuziriutilities/vul_gzip.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using platform::vul_dataByGzippingData;
using platform::vul_dataByInflatingGzippedData;
using platform::VULData;

namespace {

VULData bytes(const std::string& text) {
    return VULData(text.begin(), text.end());
}

// Made by another gzip writer: "Quorvel measures focus.\n" three times.
const VULData kForeignStream{0x1f, 0x8b, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x03, 0x0b, 0x2c,
                             0xcd, 0x2f, 0x2a, 0x4b, 0xcd, 0x51, 0xc8, 0x4d, 0x4d, 0x2c, 0x2e, 0x2d,
                             0x4a, 0x2d, 0x56, 0x48, 0xcb, 0x4f, 0x2e, 0x2d, 0xd6, 0xe3, 0x0a, 0x24,
                             0x51, 0x1c, 0x00, 0xb3, 0x94, 0x10, 0xda, 0x48, 0x00, 0x00, 0x00};

}  // namespace

TEST(VULGzip, DataComesBackFromItsGzipStream) {
    std::mt19937 random(7);
    VULData noise(1 << 20);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
    for (const VULData& data : {VULData{}, bytes("x"), bytes(std::string(100000, 'a')), noise}) {
        const VULData compressed = vul_dataByGzippingData(data, nullptr);
        ASSERT_GE(compressed.size(), 18u);
        EXPECT_EQ(compressed[0], 0x1f);
        EXPECT_EQ(compressed[1], 0x8b);
        EXPECT_EQ(vul_dataByInflatingGzippedData(compressed, nullptr), data);
    }
    EXPECT_EQ(vul_dataByInflatingGzippedData(kForeignStream, nullptr),
              bytes("Quorvel measures focus.\nQuorvel measures focus.\nQuorvel measures focus.\n"));
}

TEST(VULGzip, BrokenCutOrOversizedStreamsAreErrors) {
    std::shared_ptr<platform::NSError> error;
    EXPECT_TRUE(vul_dataByInflatingGzippedData(bytes("not gzip at all"), &error).empty());
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), platform::kVULGzipErrorDomain);
    EXPECT_EQ(error->localizedDescription(), "incorrect header check");

    const VULData cut(kForeignStream.begin(), kForeignStream.end() - 12);
    error = nullptr;
    EXPECT_TRUE(vul_dataByInflatingGzippedData(cut, &error).empty());
    EXPECT_TRUE(error);
    error = nullptr;
    EXPECT_TRUE(vul_dataByInflatingGzippedData({}, &error).empty());
    EXPECT_TRUE(error);

    // A small stream that would unfold beyond the allowed size.
    const VULData bomb = vul_dataByGzippingData(bytes(std::string(1 << 20, 0)), nullptr);
    error = nullptr;
    EXPECT_TRUE(vul_dataByInflatingGzippedData(bomb, &error, 1 << 16).empty());
    EXPECT_EQ(error->localizedDescription(), "Inflated data is larger than allowed");
    EXPECT_EQ(vul_dataByInflatingGzippedData(bomb, nullptr, 1 << 20).size(), std::size_t{1} << 20);
}
