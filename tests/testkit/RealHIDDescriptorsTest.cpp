// Report descriptors of real devices, checked against another parser's reading of each: every
// input, output and feature element and the values of recorded input reports. The descriptors
// live beside the project (../shared/hid-descriptors, or the folder TESSARINE_HID_DESCRIPTORS
// names); without them the test is skipped.
#include "testkit/HIDDescriptor.h"
#include "testkit/HIDReportDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

using namespace RorozErurEvo;
namespace fs = std::filesystem;

namespace {

std::optional<fs::path> descriptorFolder() {
    const char* named = std::getenv("TESSARINE_HID_DESCRIPTORS");
    const fs::path folder =
        named ? fs::path(named) : fs::path(TESSARINE_SOURCE_DIR) / ".." / "shared" / "hid-descriptors";
    if (std::error_code error; fs::is_directory(folder, error)) return folder;
    return std::nullopt;
}

std::vector<std::uint8_t> hexBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::istringstream in(text);
    std::string word;
    while (in >> word) bytes.push_back(static_cast<std::uint8_t>(std::stoul(word, nullptr, 16)));
    return bytes;
}

std::vector<std::uint8_t> readHexFile(const fs::path& path) {
    std::ifstream in(path);
    std::string line, text;
    while (std::getline(in, line))
        if (!line.starts_with("#")) text += line + " ";
    return hexBytes(text);
}

std::vector<std::string> gunzipLines(const fs::path& path) {
    std::vector<std::string> lines;
    const std::string command = "gzip -dc '" + path.string() + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return lines;
    std::string line;
    char chunk[4096];
    while (std::fgets(chunk, sizeof chunk, pipe.get())) {
        line += chunk;
        if (line.back() != '\n') continue;
        line.pop_back();
        lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string hex4(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

struct Listed {
    std::tuple<int, int, int, std::int64_t> order; // type, report id, bit offset, array index
    std::string line;
    std::size_t element;
};

// The elements in the other parser's words and order.
std::vector<Listed> listing(const HIDDescriptor& d) {
    static const char* types[] = {"input", "output", "feature"};
    std::vector<Listed> list;
    for (std::size_t i = 0; i < d.elements.size(); ++i) {
        const HIDElement& e = d.elements[i];
        std::string line = std::string(types[static_cast<int>(e.type)]) + " id=" + std::to_string(e.reportID) +
                           " off=" + std::to_string(e.bitOffset) + " size=" + std::to_string(e.reportSize) +
                           " page=" + hex4(e.page) + " usage=" + hex4(e.usage);
        if (e.arraySlots == 0)
            line += " var min=" + std::to_string(e.logicalMin) + " max=" + std::to_string(e.logicalMax);
        else
            line += " arr slots=" + std::to_string(e.arraySlots) + " index=" + std::to_string(e.arrayIndex);
        line += std::string(" signed=") + (e.isSigned ? "1" : "0");
        list.push_back({{static_cast<int>(e.type), e.reportID, e.bitOffset, e.arrayIndex}, line, i});
    }
    std::stable_sort(list.begin(), list.end(), [](const Listed& a, const Listed& b) { return a.order < b.order; });
    return list;
}

// Compares one descriptor with its reading; returns the first difference, empty when they agree.
std::string difference(const fs::path& hexFile) {
    fs::path oracle = hexFile;
    oracle.replace_extension(".oracle.gz");
    const auto expected = gunzipLines(oracle);
    if (expected.empty()) return "no reading beside it";

    HIDDescriptor d;
    try {
        d = HIDDescriptor::parse(readHexFile(hexFile));
    } catch (const HIDDescriptorError& error) {
        return error.what();
    }
    std::vector<std::string> ours;
    for (const auto& a : d.applications) ours.push_back("app " + hex4(a.page) + ":" + hex4(a.usage));
    ours.push_back(std::string("numbered ") + (d.numberedReports ? "1" : "0"));
    const auto listed = listing(d);
    for (const auto& l : listed) ours.push_back(l.line);

    HIDReportDecoder decoder(d);
    std::vector<HIDReportDecoder::Value> changed;
    for (const auto& line : expected) {
        if (line.starts_with("report ")) {
            const auto bytes = line.find(' ', 7);
            decoder.decode(hexBytes(line.substr(bytes)), changed);
            ours.push_back(line);
        } else if (line.starts_with("  values id=")) {
            const int id = std::stoi(line.substr(12));
            std::string values = "  values id=" + std::to_string(id) + ":";
            for (const auto& l : listed) {
                const HIDElement& e = d.elements[l.element];
                if (e.type != HIDElementType::input || e.reportID != id) continue;
                const auto value = decoder.value(l.element);
                values += " " + (value ? std::to_string(*value) : std::string("-"));
            }
            ours.push_back(values);
        }
    }
    for (std::size_t i = 0; i < std::max(ours.size(), expected.size()); ++i) {
        const std::string mine = i < ours.size() ? ours[i] : "(nothing)";
        const std::string theirs = i < expected.size() ? expected[i] : "(nothing)";
        if (mine != theirs)
            return "line " + std::to_string(i + 1) + ": ours \"" + mine + "\", theirs \"" + theirs + "\"";
    }
    return {};
}

} // namespace

TEST(RealHIDDescriptors, EveryDescriptorParsesAndReadsAsTheOtherParserReadsIt) {
    const auto folder = descriptorFolder();
    if (!folder) GTEST_SKIP() << "no folder of real HID descriptors beside the project";
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(*folder))
        if (entry.path().extension() == ".hex") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    ASSERT_FALSE(files.empty());

    int agreeing = 0;
    for (const auto& file : files) {
        const std::string diff = difference(file);
        EXPECT_EQ(diff, "") << file.filename().string();
        agreeing += diff.empty();
    }
    std::printf("%d of %zu real descriptors agree\n", agreeing, files.size());
}
