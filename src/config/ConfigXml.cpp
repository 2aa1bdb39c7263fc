#include "config/ConfigXml.h"

#include "config/ConfigText.h"
#include "framework/AfxApp.h"
#include "framework/ScopedWin.h"

#include <windows.h>

#include <libxml/entities.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>

void ApplyLibrarySettings()
{
    xmlKeepBlanksDefault(0);
    xmlIndentTreeOutput = 1;
}

namespace {

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The first limit bytes of the file, or all of it when it is shorter; empty when it cannot be
// read.
std::string FileBytes(const std::string& path, size_t limit)
{
    std::unique_ptr<std::FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    std::string bytes;
    char chunk[4096];
    size_t read = 0;
    while (file && bytes.size() < limit &&
           (read = std::fread(chunk, 1, std::min(sizeof chunk, limit - bytes.size()), file.get())) > 0)
        bytes.append(chunk, read);
    return bytes;
}

// The library takes the file as UTF-8 only when no mark stands before the declaration, so a
// marked file is parsed from its text without the mark, as the same file without one would be.
XmlDocHolder ParseMarkedFile(const std::string& path, const std::string& utf8Path)
{
    ConvertedText text = Utf8WithoutByteOrderMark(FileBytes(path, SIZE_MAX));
    if (!text.complete)
        return nullptr;
    return XmlDocHolder(xmlReadMemory(text.text.data(), static_cast<int>(text.text.size()),
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
    ConvertedText utf8 = GbkToUtf8(temporary);
    if (!utf8.complete)
        return ERROR_NO_UNICODE_TRANSLATION;
    if (IsReadOnlyFile(path))
        return ERROR_ACCESS_DENIED;
    return WriteThenMove(doc, temporary, utf8.text, path);
}

}  // namespace

XmlDocHolder ParseConfigFile(const std::string& path)
{
    // libxml2 takes a UTF-8 file name first, so the GBK path is handed over in UTF-8.
    ConvertedText utf8 = GbkToUtf8(path);
    if (path.empty() || !utf8.complete)
        return nullptr;
    if (StartsWithByteOrderMark(FileBytes(path, 3)))
        return ParseMarkedFile(path, utf8.text);
    return XmlDocHolder(xmlReadFile(utf8.text.c_str(), "UTF-8", kConfigParseOptions));
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
