// srv.xml: replacing the stored autostart command.
#include "config/AutorunStore.h"

#include "config/ConfigPaths.h"
#include "config/StoredCommand.h"
#include "config/TextEncoding.h"

#include <libxml/entities.h>

namespace {

// XML 1.0 allows no C0 control characters but tab, line feed and carriage return; a file
// holding one could not be read back.
bool IsXmlCharacterData(const std::string& text)
{
    for (unsigned char c : text) {
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            return false;
    }
    return true;
}

// The command in UTF-8 when it converts whole and XML can hold it, so the file never holds a
// cut one.
std::optional<std::string> StorableCommand(const char* command)
{
    std::optional<std::string> utf8 = command ? WholeUtf8OfGbk(command) : std::nullopt;
    if (!utf8 || !IsXmlCharacterData(*utf8))
        return std::nullopt;
    return utf8;
}

// xmlNodeSetContent reads entity references, so '&' and its kin go in escaped.
bool SetCommandText(xmlDoc* document, xmlNode* element, const std::string& utf8)
{
    if (!element)
        return false;
    XmlStringHolder escaped(xmlEncodeSpecialChars(document, reinterpret_cast<const xmlChar*>(utf8.c_str())));
    if (escaped)
        xmlNodeSetContent(element, escaped.get());
    return escaped != nullptr;
}

// The element made the parent's first child, or nothing made where the first child has the name.
xmlNode* FirstChildNamed(xmlNode* parent, const char* name)
{
    if (IsElementNamed(parent->children, name))
        return parent->children;
    xmlNode* element = xmlNewDocNode(parent->doc, nullptr, reinterpret_cast<const xmlChar*>(name), nullptr);
    return parent->children ? xmlAddPrevSibling(parent->children, element) : xmlAddChild(parent, element);
}

// The element start-up reads the command from, made where the file has none.
xmlNode* AutorunElementStartUpReads(xmlDoc* document)
{
    xmlNode* cfg = FindConfigElement(document);
    if (!cfg)
        cfg = FirstChildNamed(xmlDocGetRootElement(document), "cfg");
    return cfg ? FirstChildNamed(cfg, "autorun") : nullptr;
}

bool HoldsForStartUp(const xmlDoc* document, const std::string& utf8)
{
    const xmlNode* cfg = FindConfigElement(document);
    return cfg && ElementText(cfg->children) == utf8;
}

}  // namespace

XPathObjectHolder FindAutorunNodes(xmlDoc* document)
{
    if (!document)
        return nullptr;
    XPathContextHolder context(xmlXPathNewContext(document));
    if (!context)
        return nullptr;
    XPathObjectHolder result(xmlXPathEvalExpression(
        reinterpret_cast<const xmlChar*>("//srv_root/cfg/autorun"), context.get()));
    xmlNodeSetPtr nodes = result ? result->nodesetval : nullptr;
    if (!nodes || nodes->nodeNr == 0 || !nodes->nodeTab)
        return nullptr;
    return result;
}

bool UpdateAutorunCommand(xmlDoc* document, const char* command)
{
    XPathObjectHolder found = FindAutorunNodes(document);
    const std::optional<std::string> utf8 = StorableCommand(command);
    if (!found || !utf8)
        return false;
    // The command is made as a CDATA section, the form the default file stores it in; each
    // element takes it as character data, and the section, never attached, goes again.
    const xmlChar* text = reinterpret_cast<const xmlChar*>(utf8->c_str());
    xmlNodePtr section = xmlNewCDataBlock(document, text, static_cast<int>(utf8->size()));
    xmlNodeSetPtr nodes = found->nodesetval;
    bool set = true;
    for (int i = 0; i < nodes->nodeNr; ++i)
        set = SetCommandText(document, nodes->nodeTab[i], *utf8) && set;
    xmlFreeNode(section);
    return set;
}

// A command that cannot be stored leaves the document as it was read.
std::optional<CommandNotKept> KeepAutorunCommand(const char* directory, const char* command)
{
    ParserCleanupAtEnd cleanup;
    const std::string path = ConfigPathIn(directory);
    XmlDocHolder doc = ParseConfigFile(path);
    if (!doc)
        return CommandNotKept{CommandNotKept::NotParsed};
    const std::optional<std::string> utf8 = StorableCommand(command);
    const bool heldBefore = utf8 && HoldsForStartUp(doc.get(), *utf8);
    const bool set = utf8 && SetCommandText(doc.get(), AutorunElementStartUpReads(doc.get()), *utf8);
    if (set)
        UpdateAutorunCommand(doc.get(), command);  // the other autorun elements too
    DWORD saveError = ERROR_SUCCESS;
    const bool saved = SaveConfigDocument(doc.get(), path, &saveError);
    if (!set)
        return CommandNotKept{CommandNotKept::NotStorable};
    if (!saved && !heldBefore)
        return CommandNotKept{CommandNotKept::SaveRefused, saveError};
    return std::nullopt;
}

bool StoreAutorunCommand(const char* directory, const char* command)
{
    return !KeepAutorunCommand(directory, command);
}
