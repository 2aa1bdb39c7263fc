// srv.xml: replacing the stored autostart command.
#include "config/AutorunStore.h"

#include "config/ConfigPaths.h"
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

// A command that cannot be converted whole is not stored, so the file never holds a cut one.
bool UpdateAutorunCommand(xmlDoc* document, const char* command)
{
    if (!command)
        return false;
    XPathObjectHolder found = FindAutorunNodes(document);
    if (!found)
        return false;
    const std::optional<std::string> utf8 = WholeUtf8OfGbk(command);
    if (!utf8 || !IsXmlCharacterData(*utf8))
        return false;
    // xmlNodeSetContent reads entity references, so '&' and its kin go in escaped.
    XmlStringHolder escaped(
        xmlEncodeSpecialChars(document, reinterpret_cast<const xmlChar*>(utf8->c_str())));
    if (!escaped)
        return false;
    // The command is made as a CDATA section, the form the default file stores it in; each
    // element takes it as character data, and the section, never attached, goes again.
    const xmlChar* text = reinterpret_cast<const xmlChar*>(utf8->c_str());
    xmlNodePtr section = xmlNewCDataBlock(document, text, static_cast<int>(utf8->size()));
    xmlNodeSetPtr nodes = found->nodesetval;
    for (int i = 0; i < nodes->nodeNr; ++i)
        xmlNodeSetContent(nodes->nodeTab[i], escaped.get());
    xmlFreeNode(section);
    return true;
}

bool StoreAutorunCommand(const char* directory, const char* command, DWORD* saveError)
{
    if (saveError)
        *saveError = ERROR_SUCCESS;
    ParserCleanupAtEnd cleanup;
    std::string path = ConfigPathIn(directory);
    XmlDocHolder doc = ParseConfigFile(path);
    if (!doc)
        return false;
    bool updated = UpdateAutorunCommand(doc.get(), command);
    return SaveConfigDocument(doc.get(), path, saveError) && updated;
}
