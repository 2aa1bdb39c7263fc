#pragma once

#include <windows.h>

#include <string>

// This test program's full path (GBK): the executable that own commands must start.
std::string ExePath();

// UTF-8 form of a GBK text by the platform, independent of the converter under test.
std::string Utf8OfGbk(const std::string& gbk);

// The default srv.xml as the program saves it, around the given UTF-8 command.
std::string DefaultFileText(const std::string& utf8Command);

// A report-style list view with the two columns of the server list, in a hidden window.
class ServerListView {
public:
    ServerListView();
    ~ServerListView();
    ServerListView(const ServerListView&) = delete;
    ServerListView& operator=(const ServerListView&) = delete;

    HWND handle() const { return m_list; }
    int Rows() const;
    std::string Text(int row, int column) const;

private:
    HWND m_parent = nullptr;
    HWND m_list = nullptr;
};
