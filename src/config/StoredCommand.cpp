// srv.xml: the autostart command, as start-up reads it back and as a click of the box keeps it.
#include "config/StoredCommand.h"

#include "config/CommandLine.h"
#include "config/ConfigPaths.h"
#include "config/DefaultConfig.h"
#include "framework/AfxApp.h"

#include <libxml/entities.h>

// Three bytes for each byte read, all but the last offered, so the text stays terminated.
// No character takes more bytes in GBK than in UTF-8.
ConvertedText StoredCommandInGbk(const std::string& utf8)
{
    const size_t size = 3 * utf8.size();
    return ConvertInBuffer("GBK", "UTF-8", utf8, size, size - 1);
}

xmlNode* FindConfigElement(const xmlDoc* doc)
{
    xmlNode* root = xmlDocGetRootElement(doc);
    for (xmlNode* child = root ? root->children : nullptr; child; child = child->next) {
        if (IsElementNamed(child, "cfg"))
            return child;
    }
    return nullptr;
}

namespace {

std::string AutorunCommandIn(const xmlDoc* doc)
{
    const xmlNode* cfg = FindConfigElement(doc);
    if (!cfg)
        return {};
    std::string text = ElementText(cfg->children);
    std::string command = text.empty() ? text : StoredCommandInGbk(text).text;
    if (command.empty() || !IsOwnSyncCommandLine(command.c_str()))
        command = DefaultAutorunCommand(AfxGetModuleFileName().c_str());
    return command;
}

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

bool SetEveryAutorunText(xmlDoc* document, const std::string& utf8)
{
    XPathObjectHolder found = FindAutorunNodes(document);
    if (!found)
        return false;
    // The command is made as a CDATA section, the form the default file stores it in; each
    // element takes it as character data, and the section, never attached, goes again.
    const xmlChar* text = reinterpret_cast<const xmlChar*>(utf8.c_str());
    xmlNodePtr section = xmlNewCDataBlock(document, text, static_cast<int>(utf8.size()));
    xmlNodeSetPtr nodes = found->nodesetval;
    bool set = true;
    for (int i = 0; i < nodes->nodeNr; ++i)
        set = SetCommandText(document, nodes->nodeTab[i], utf8) && set;
    xmlFreeNode(section);
    return set;
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

bool IsGone(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// A file that is gone holds nothing to lose: it is written as start-up would write it, with
// this command in place of the default one.
std::optional<CommandNotKept> KeepInDefaultFile(const std::string& path, const std::optional<std::string>& utf8)
{
    if (!utf8)
        return CommandNotKept{CommandNotKept::NotStorable};
    DWORD saveError = ERROR_SUCCESS;
    if (!WriteDefaultConfigHolding(path.c_str(), *utf8, &saveError))
        return CommandNotKept{CommandNotKept::SaveRefused, saveError};
    return std::nullopt;
}

// A command that cannot be stored leaves the document as it was read.
std::optional<CommandNotKept> KeepInFile(const std::string& path, const std::optional<std::string>& utf8)
{
    XmlDocHolder doc = ParseConfigFile(path);
    if (!doc)
        return CommandNotKept{CommandNotKept::NotParsed};
    const bool heldBefore = utf8 && HoldsForStartUp(doc.get(), *utf8);
    const bool set = utf8 && SetCommandText(doc.get(), AutorunElementStartUpReads(doc.get()), *utf8);
    if (set)
        SetEveryAutorunText(doc.get(), *utf8);  // the other autorun elements too
    DWORD saveError = ERROR_SUCCESS;
    const bool saved = SaveConfigDocument(doc.get(), path, &saveError);
    if (!set)
        return CommandNotKept{CommandNotKept::NotStorable};
    if (!saved && !heldBefore)
        return CommandNotKept{CommandNotKept::SaveRefused, saveError};
    return std::nullopt;
}

}  // namespace

std::string LoadAutorunCommand(const char* path)
{
    ParserCleanupAtEnd cleanup;
    XmlDocHolder doc = ParseConfigFile(path ? path : "");
    if (!doc) {
        ShowNotParsedMessage();
        return {};
    }
    return AutorunCommandIn(doc.get());
}

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
    const std::optional<std::string> utf8 = StorableCommand(command);
    return utf8 && SetEveryAutorunText(document, *utf8);
}

std::optional<CommandNotKept> KeepAutorunCommand(const char* directory, const char* command)
{
    ParserCleanupAtEnd cleanup;
    const std::string path = ConfigPathIn(directory);
    const std::optional<std::string> utf8 = StorableCommand(command);
    return IsGone(path) ? KeepInDefaultFile(path, utf8) : KeepInFile(path, utf8);
}

bool StoreAutorunCommand(const char* directory, const char* command)
{
    return !KeepAutorunCommand(directory, command);
}
