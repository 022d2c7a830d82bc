// The checksums that name a ROM: CRC-32 (with the prefix that a checksum over unseen bytes
// needs), MD5 and SHA-1 against their published test values and hashlib's at the lengths where
// the padding takes another block.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "patches/crc32.h"
#include "patches/digests.h"
#include "patches/rom_identity.h"

namespace corv::patches {
namespace {

std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// (i * 7 + 3) mod 256: the bytes the values of hashlib below were made from.
std::vector<uint8_t> pattern(size_t length) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

TEST(Checksums, Crc32ItsCheckValueJoinedFilesAndTheCrcOfAnUnseenPrefix) {
    EXPECT_EQ(Crc32(bytesOf("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32({}), 0u);
    std::mt19937 random(5);
    for (const size_t prefix : {0u, 1u, 4u, 512u, 777u}) {
        for (const size_t rest : {0u, 1u, 100u, 65536u}) {
            std::vector<uint8_t> a(prefix), b(rest);
            for (auto& x : a) x = uint8_t(random());
            for (auto& x : b) x = uint8_t(random());
            std::vector<uint8_t> whole = a;
            whole.insert(whole.end(), b.begin(), b.end());
            EXPECT_EQ(Crc32Concat(Crc32(a), Crc32(b), b.size()), Crc32(whole)) << prefix << " " << rest;
            EXPECT_EQ(Crc32OfPrefix(Crc32(whole), Crc32(b), b.size()), Crc32(a)) << prefix << " " << rest;
        }
    }
}

TEST(Checksums, Md5AndSha1GiveTheirPublishedValues) {
    const struct {
        std::vector<uint8_t> bytes;
        const char* md5;
        const char* sha1;
    } cases[] = {
        {{}, "d41d8cd98f00b204e9800998ecf8427e", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {bytesOf("abc"), "900150983cd24fb0d6963f7d28e17f72", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {bytesOf("message digest"), "f96b697d7cb7938d525a2f31aaf161d0", "c12252ceda8be8994d5fa0290a47231c1d16aae3"},
        {std::vector<uint8_t>(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21",
         "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {pattern(55), "52c0e574e1198de5fe3f8f11440dcb1b", "ddf57317ef34bfee3b6df83d359098930eb278bc"},
        {pattern(56), "46c9907fc908ee68b1e7b8e71286a518", "a0d492bb0fc889d0eca3bc137066ab6f4f74f369"},
        {pattern(63), "a62f6d59e837867693f042f5b8f5a236", "c55856749bef509bdfe6bfebfc7bf4e793e82132"},
        {pattern(64), "7160b8fb5e9e4023d549c3971fbaeead", "bede92be29c3874e1b54ddc77988d606fc857a8e"},
        {pattern(65), "70bd662e7aefbda85a0f7244167b7897", "b05a80522b053d6dc7e0a517d0e70212c7dad11f"},
        {pattern(119), "e84905d4214f4d1ca56c2cdcc152b143", "504e27376a6e0f0dba8295b85cb25dc4dfa17d23"},
        {pattern(120), "e3eb5a6c8669ea01a8c185b8abc8a5dc", "82134b02fb3f702491be9bed581eeab59334acb2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DigestHex(Md5(c.bytes)), c.md5) << c.bytes.size();
        EXPECT_EQ(DigestHex(Sha1(c.bytes)), c.sha1) << c.bytes.size();
    }
}

TEST(Checksums, ARomIsNamedWholeAndWithoutItsCopierHeader) {
    std::vector<uint8_t> file(512, 0xAA);
    const std::vector<uint8_t> data = pattern(4096);
    file.insert(file.end(), data.begin(), data.end());
    const RomIdentity headered = IdentifyRom(file, 512);
    ASSERT_TRUE(headered.withoutHeader);
    EXPECT_EQ(headered.file, IdentifyFile(file));
    EXPECT_EQ(*headered.withoutHeader, IdentifyFile(data));
    EXPECT_EQ(headered.data().size, 4096u);
    const RomIdentity plain = IdentifyRom(data, 0);
    EXPECT_FALSE(plain.withoutHeader);
    EXPECT_EQ(plain.data(), headered.data());
    EXPECT_NE(plain.file, headered.file);
}

}  // namespace
}  // namespace corv::patches
