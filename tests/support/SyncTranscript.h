// What the log box holds before a sync and what a sync writes into it; the values servers send.
#pragma once

#include <winsock2.h>

#include <string>

// Before a sync: the command-line example with that address, and the help page's address.
std::string HelpText(const std::string& address, const std::string& helpPage);

// 3629059200 (2015-01-01 00:00:00 UTC) as a server sends it: far from now, so Wine refuses
// to set the clock to it.
extern const std::string kValue2015;
constexpr unsigned kValue2015Seconds = 3629059200u;

// A sync from the list up to its connect attempt, then after the connect notification,
// then the received value.
std::string OpeningLines(const std::string& address, SOCKET socket);
std::string ConnectedLines();
std::string ValueLines(unsigned value);
// The socket number that the log names ("Socket <n>  ..."), 0 when none.
SOCKET SocketNamedIn(const std::string& log);

bool EndsWith(const std::string& log, const std::string& tail);

extern const char* const kClockRefused;    // the clock refused the value
extern const char* const kTimedOut;        // the whole log after the tick limit
extern const char* const kWaitingForData;  // the last line while the value is awaited
