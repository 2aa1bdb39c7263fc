#include "config/ConfigXml.h"

#include "config/ByteOrderMark.h"
#include "config/TextEncoding.h"
#include "framework/AfxApp.h"
#include "framework/ScopedWin.h"

#include <windows.h>

#include <libxml/entities.h>

#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
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

// Whether the library's in-line text of the node list would exist. Each entity is looked into
// once: one seen before held no text, or is being looked into.
bool ListHasText(const xmlDoc* doc, const xmlNode* list, std::set<const xmlEntity*>& seen)
{
    for (const xmlNode* node = list; node; node = node->next) {
        const bool isText = node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
        if (isText && node->content)
            return true;
        if (node->type != XML_ENTITY_REF_NODE)
            continue;
        const xmlEntity* entity = xmlGetDocEntity(doc, node->name);
        if (entity ? seen.insert(entity).second && ListHasText(doc, entity->children, seen)
                   : node->content != nullptr)
            return true;
    }
    return false;
}

bool IsReadOnlyFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Made here before the library writes it, so a refusal comes with the system's code: the
// library's own error reporting clears it.
DWORD CreateEmptyFile(const std::string& path)
{
    const ScopedHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid() ? ERROR_SUCCESS : GetLastError();
}

// The system's code for the document written to the temporary file and moved over the file.
// A write that fails after the file was made has no code left: a write fault is what is known.
DWORD WriteThenMove(xmlDoc* doc, const std::string& temporary, const std::string& utf8Temporary,
                    const std::string& path)
{
    DWORD error = CreateEmptyFile(temporary);
    if (error != ERROR_SUCCESS)
        return error;
    if (xmlSaveFormatFileEnc(utf8Temporary.c_str(), doc, "UTF-8", 1) < 0)
        error = ERROR_WRITE_FAULT;
    else if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error != ERROR_SUCCESS)
        DeleteFileA(temporary.c_str());
    return error;
}

// The system's code for saving the document over the file. A read-only file is refused as
// Windows refuses to replace it; Wine would replace it and drop the attribute.
DWORD SaveOver(xmlDoc* doc, const std::string& path)
{
    if (!doc || path.empty())
        return ERROR_INVALID_PARAMETER;
    std::string temporary = path + ".tmp";
    const std::optional<std::string> utf8 = WholeUtf8OfGbk(temporary);
    if (!utf8)
        return ERROR_NO_UNICODE_TRANSLATION;
    if (IsReadOnlyFile(path))
        return ERROR_ACCESS_DENIED;
    return WriteThenMove(doc, temporary, *utf8, path);
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

bool SaveConfigDocument(xmlDoc* doc, const std::string& path, DWORD* error)
{
    const DWORD code = SaveOver(doc, path);
    if (error)
        *error = code;
    return code == ERROR_SUCCESS;
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

bool HasText(const xmlNode* node)
{
    std::set<const xmlEntity*> seen;
    return node && ListHasText(node->doc, node->children, seen);
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
