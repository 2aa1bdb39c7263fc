#pragma once

#include "support/ServerListView.h"
#include "support/SrvXml.h"
#include "support/TempDir.h"

#include <windows.h>

#include <string>

// UTF-8 form of a GBK text by the platform, independent of the converter under test.
std::string Utf8OfGbk(const std::string& gbk);

// The default srv.xml as the program saves it, around the given UTF-8 command.
std::string DefaultFileText(const std::string& utf8Command);
