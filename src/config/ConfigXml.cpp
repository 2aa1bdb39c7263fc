#include "config/ConfigXml.h"

#include "config/ConfigText.h"
#include "config/TextEncoding.h"
#include "framework/AfxApp.h"

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <utility>

void ApplyLibrarySettings()
{
    xmlKeepBlanksDefault(0);
    xmlIndentTreeOutput = 1;
}

namespace {

// A marked file is parsed from memory, where the library takes at most 10,000,000 bytes of
// text: a UTF-16 file of twice that. A larger marked file could never be parsed, so it is not
// read (a file of hundreds of megabytes would not even fit a 32-bit process's memory). A file
// of 100,000 servers is about 6 MB, twice that in UTF-16.
constexpr long long kLargestMarkedFile = 32 << 20;

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using FileHolder = std::unique_ptr<std::FILE, FileClose>;

// The first bytes of the file, as many as it has up to the length.
std::string FileStart(const std::string& path, size_t length)
{
    FileHolder file(std::fopen(path.c_str(), "rb"));
    std::string bytes(length, '\0');
    bytes.resize(file ? std::fread(&bytes[0], 1, length, file.get()) : 0);
    return bytes;
}

// The whole file; nothing when it cannot be read or is larger than the bound.
std::optional<std::string> MarkedFileBytes(const std::string& path)
{
    FileHolder file(std::fopen(path.c_str(), "rb"));
    const long long size = file ? _filelengthi64(_fileno(file.get())) : -1;
    if (size < 0 || size > kLargestMarkedFile)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), file.get()));
    return bytes;
}

// The library takes the file as UTF-8 only when no mark stands before the declaration, so a
// marked file is parsed from its text without the mark, as the same file without one would be.
XmlDocHolder ParseMarkedFile(const std::string& path, const std::string& utf8Path)
{
    std::optional<std::string> bytes = MarkedFileBytes(path);
    std::optional<std::string> text = bytes ? Utf8WithoutByteOrderMark(std::move(*bytes)) : std::nullopt;
    if (!text)
        return nullptr;
    return XmlDocHolder(xmlReadMemory(text->data(), static_cast<int>(text->size()),
                                      utf8Path.c_str(), "UTF-8", kConfigParseOptions));
}

}  // namespace

XmlDocHolder ParseConfigFile(const std::string& path)
{
    // libxml2 takes a UTF-8 file name first, so the GBK path is handed over in UTF-8.
    const std::optional<std::string> utf8Path = WholeUtf8OfGbk(path);
    if (path.empty() || !utf8Path)
        return nullptr;
    if (StartsWithByteOrderMark(FileStart(path, 3)))
        return ParseMarkedFile(path, *utf8Path);
    return XmlDocHolder(xmlReadFile(utf8Path->c_str(), "UTF-8", kConfigParseOptions));
}

bool SaveConfigDocument(xmlDoc* doc, const std::string& path)
{
    if (!doc || path.empty())
        return false;
    std::string temporary = path + ".tmp";
    const std::optional<std::string> utf8 = WholeUtf8OfGbk(temporary);
    if (!utf8)
        return false;
    bool saved = xmlSaveFormatFileEnc(utf8->c_str(), doc, "UTF-8", 1) >= 0 &&
                 MoveFileExA(temporary.c_str(), path.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!saved)
        DeleteFileA(temporary.c_str());
    return saved;
}

std::string ElementText(const xmlNode* node)
{
    std::string text;
    if (!node)
        return text;
    for (const xmlNode* child = node->children; child; child = child->next) {
        bool isText = child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE;
        if (isText && child->content)
            text += reinterpret_cast<const char*>(child->content);
    }
    return text;
}

bool IsElementNamed(const xmlNode* node, const char* name)
{
    return node && node->type == XML_ELEMENT_NODE &&
           xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

void ShowNotParsedMessage()
{
    AfxMessageBox("Document srv.xml not parsed successfully.", MB_OK);
}
