// The adapter against glibc's iconv on the same inputs (reference written at build time).
#include "ConfigTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <sstream>

namespace {

struct Sample {
    std::string from, to, input, status, output;  // hex texts, "-" for no output
};

std::string Hex(const std::string& bytes)
{
    std::string hex;
    for (unsigned char c : bytes)
        hex += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
    return hex.empty() ? "-" : hex;
}

std::string Bytes(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<Sample> ReadReference()
{
    std::istringstream in(ReadFileBytes(WinePathFromEnv("ZORVANE_BUILD_DIR") + "\\tests\\iconv_reference.txt"));
    std::vector<Sample> samples;
    Sample s;
    while (in >> s.from >> s.to >> s.input >> s.status >> s.output)
        samples.push_back(s);
    return samples;
}

// Status and output of the adapter, converting in one call with ample room.
std::pair<std::string, std::string> Adapter(const std::string& from, const std::string& to,
                                            const std::string& inputHex)
{
    const IconvCall call = CallIconv(to.c_str(), from.c_str(), Bytes(inputHex), 256);
    const std::string status = call.result != static_cast<size_t>(-1) ? "OK"
                               : call.error == EILSEQ                ? "EILSEQ"
                               : call.error == EINVAL                ? "EINVAL"
                                                                     : "E" + std::to_string(call.error);
    return {status, Hex(call.output)};
}

// Code page 936, the code page of all the program's own text, gives the cells that glibc's
// GBK leaves unassigned (user-defined areas and the like) characters of the private use
// area U+E000..U+F8FF, and the adapter keeps them so that such bytes survive a round trip.
// That is the one difference allowed.
bool IsPrivateUseDifference(const Sample& glibc, const std::pair<std::string, std::string>& adapter)
{
    if (glibc.from != "GBK" || glibc.status != "EILSEQ" || adapter.first != "OK")
        return false;
    // U+E000..U+F8FF: EE 80 80 to EF A3 BF in UTF-8, so in hex of one length.
    const std::string& utf8 = adapter.second;
    return utf8.size() == 6 && utf8 >= "ee8080" && utf8 <= "efa3bf" &&
           Adapter("UTF-8", "GBK", utf8) == std::make_pair(std::string("OK"), glibc.input);
}

}  // namespace

// The reference covers full rows and unassigned cells.
TEST(IconvReference, AdapterAgreesWithGlibcIconv)
{
    std::vector<Sample> samples = ReadReference();
    ASSERT_GT(samples.size(), 1600u) << "reference file missing or short";
    int privateUse = 0, unassigned = 0;
    std::map<std::string, int> cellsPerLead;
    for (const Sample& s : samples) {
        if (s.from == "GBK" && s.input.size() == 4) {
            ++cellsPerLead[s.input.substr(0, 2)];
            unassigned += s.status != "OK";
        }
        const auto adapter = Adapter(s.from, s.to, s.input);
        if (IsPrivateUseDifference(s, adapter)) {
            ++privateUse;
            continue;
        }
        EXPECT_EQ(std::make_pair(s.status, s.output), adapter)
            << s.from << " -> " << s.to << " of " << s.input;
    }
    // A140..A1A0, D7FA..D7FE, the unassigned cells of A8 and FE50..FEFE.
    EXPECT_EQ(313, privateUse);
    for (const char* lead : {"b0", "d7", "a8", "fe", "a1"})
        EXPECT_EQ(192, cellsPerLead[lead]) << lead;
    EXPECT_GT(unassigned, 100);
}

TEST(IconvReference, PrivateUseCellsOfCodePage936)
{
    EXPECT_EQ(std::make_pair(std::string("OK"), std::string("eea090")), Adapter("GBK", "UTF-8", "d7fa"));
    EXPECT_EQ(std::make_pair(std::string("OK"), std::string("d7fa")), Adapter("UTF-8", "GBK", "eea090"));
    // Where glibc has the character, code page 936 has the same one.
    EXPECT_EQ(std::make_pair(std::string("OK"), std::string("e282ac")), Adapter("GBK", "UTF-8", "80"));
    EXPECT_EQ(std::make_pair(std::string("EILSEQ"), std::string("-")), Adapter("GBK", "UTF-8", "ff"));
}
