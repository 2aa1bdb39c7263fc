#pragma once

// Document handling shared by the srv.xml operations: owners, parsing, safe saving.

#include <windows.h>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <memory>
#include <string>

// Indentation between elements yields no text nodes; entities are neither substituted nor
// loaded, so a hostile file can neither expand nor reach other files.
constexpr int kConfigParseOptions = XML_PARSE_NOBLANKS | XML_PARSE_NODICT;
static_assert(kConfigParseOptions == 4352, "srv.xml parse options");

struct XmlDocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using XmlDocHolder = std::unique_ptr<xmlDoc, XmlDocFree>;

struct XPathObjectFree {
    void operator()(xmlXPathObject* object) const { xmlXPathFreeObject(object); }
};
using XPathObjectHolder = std::unique_ptr<xmlXPathObject, XPathObjectFree>;

struct XPathContextFree {
    void operator()(xmlXPathContext* context) const { xmlXPathFreeContext(context); }
};
using XPathContextHolder = std::unique_ptr<xmlXPathContext, XPathContextFree>;

struct XmlStringFree {
    void operator()(xmlChar* text) const { xmlFree(text); }
};
using XmlStringHolder = std::unique_ptr<xmlChar, XmlStringFree>;

// Runs the library's global clean-up when an operation ends; declare it before the
// operation's document so the document is freed first.
class ParserCleanupAtEnd {
public:
    ParserCleanupAtEnd() = default;
    ~ParserCleanupAtEnd() { xmlCleanupParser(); }
    ParserCleanupAtEnd(const ParserCleanupAtEnd&) = delete;
    ParserCleanupAtEnd& operator=(const ParserCleanupAtEnd&) = delete;
};

// Blank nodes dropped, formatted output indented (process-wide).
void ApplyLibrarySettings();

// Parses the file at a GBK path; null when it is missing or not well-formed. A file with a
// byte-order mark is parsed as the same text without the mark would be.
XmlDocHolder ParseConfigFile(const std::string& path);

// Saves formatted UTF-8 next to the file, then puts it in the file's place, so a failed
// save leaves the file as it was. A read-only file is refused as Windows refuses it (access
// denied), also where the system would replace it. False when nothing was replaced; error
// then receives the system's code.
bool SaveConfigDocument(xmlDoc* doc, const std::string& path, DWORD* error = nullptr);

// The text and CDATA content directly inside the node. Entity references are left out
// rather than expanded.
std::string ElementText(const xmlNode* node);

// False where the library's in-line text of the node (xmlNodeListGetString) is missing, not
// merely empty: no text or CDATA node, directly or through the entities referred to. Decided
// without expanding a reference.
bool HasText(const xmlNode* node);

bool IsElementNamed(const xmlNode* node, const char* name);

// "Document srv.xml not parsed successfully." in a message box.
void ShowNotParsedMessage();
