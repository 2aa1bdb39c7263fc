#include "config/ConfigXml.h"

#include "config/ByteOrderMark.h"
#include "config/TextEncoding.h"
#include "framework/AfxApp.h"
#include "framework/ScopedWin.h"

#include <windows.h>

#include <libxml/entities.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

void ApplyLibrarySettings()
{
    xmlKeepBlanksDefault(0);
    xmlIndentTreeOutput = 1;
}

namespace {

constexpr size_t kMarkedFilePiece = 64 << 10;

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

// A marked file's text handed to the library as it asks for it, a piece of the file at a time.
class MarkedFileReader {
public:
    explicit MarkedFileReader(const std::string& path) : m_file(std::fopen(path.c_str(), "rb")) {}

    // The library's read callback; 0 at the end of the text, also where the file stops being
    // text (ReadWhole then says so).
    static int Read(void* reader, char* buffer, int size)
    {
        return static_cast<MarkedFileReader*>(reader)->Hand(buffer, static_cast<size_t>(size));
    }

    // Whether the whole file was its text and went to the library.
    bool ReadWhole() const { return m_ended && !m_failed; }

private:
    int Hand(char* buffer, size_t size)
    {
        while (m_handed == m_text.size() && !m_ended)
            ReadPiece();
        const size_t count = std::min(size, m_text.size() - m_handed);
        std::copy_n(m_text.data() + m_handed, count, buffer);
        m_handed += count;
        return static_cast<int>(count);
    }

    void ReadPiece()
    {
        m_text.clear();
        m_handed = 0;
        const size_t read = m_file ? std::fread(m_piece.data(), 1, m_piece.size(), m_file.get()) : 0;
        m_ended = read == 0;
        const bool isText = m_ended ? m_file && !std::ferror(m_file.get()) && m_marked.End(m_text)
                                    : m_marked.Add({m_piece.data(), read}, m_text);
        if (!isText) {
            m_failed = m_ended = true;
            m_text.clear();
        }
    }

    FileHolder m_file;
    MarkedText m_marked;
    std::vector<char> m_piece = std::vector<char>(kMarkedFilePiece);
    std::string m_text;  // of the last piece
    size_t m_handed = 0;
    bool m_ended = false;
    bool m_failed = false;
};

// The library takes the file as UTF-8 only when no mark stands before the declaration, so a
// marked file is parsed from its text without the mark, read as the same file without one
// would be, with the same options: its outcome is that file's at any size. Where the file
// stops being text the library is told the text ended, so a document made of what came before
// is dropped.
XmlDocHolder ParseMarkedFile(const std::string& path, const std::string& utf8Path)
{
    MarkedFileReader reader(path);
    XmlDocHolder doc(xmlReadIO(&MarkedFileReader::Read, nullptr, &reader, utf8Path.c_str(), "UTF-8",
                               kConfigParseOptions));
    return reader.ReadWhole() ? std::move(doc) : nullptr;
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
