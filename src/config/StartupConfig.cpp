// srv.xml: the reads the main window makes when it starts.
#include "config/ServerConfig.h"

#include "config/ConfigXml.h"

// The library's clean-up runs after the document is freed (members end in reverse order).
struct StartupConfig::Parsed {
    ParserCleanupAtEnd cleanup;
    XmlDocHolder doc;
};

StartupConfig::StartupConfig(const char* path) : m_parsed(std::make_unique<Parsed>())
{
    ApplyLibrarySettings();
    m_parsed->doc = ParseConfigFile(path ? path : "");
}

StartupConfig::~StartupConfig() = default;

std::string StartupConfig::AutorunCommand() const
{
    if (!m_parsed->doc) {
        ShowNotParsedMessage();
        return {};
    }
    return AutorunCommandIn(m_parsed->doc.get());
}

void StartupConfig::FillServerList(HWND listView) const
{
    if (!m_parsed->doc) {
        ShowNotParsedMessage();
        return;
    }
    InsertServerRows(m_parsed->doc.get(), listView);
}

std::string LoadAutorunCommand(const char* path)
{
    return StartupConfig(path).AutorunCommand();
}

void LoadServerList(const char* directory, HWND listView)
{
    StartupConfig(ConfigPathIn(directory).c_str()).FillServerList(listView);
}
