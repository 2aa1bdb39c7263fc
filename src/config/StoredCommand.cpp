// srv.xml: the autostart command as the file keeps it, read back in GBK.
#include "config/StoredCommand.h"

#include "config/CommandLine.h"
#include "config/ConfigXml.h"
#include "config/DefaultConfig.h"
#include "framework/AfxApp.h"

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
