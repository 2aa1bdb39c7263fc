#pragma once

// The server list's columns: the window makes them, srv.xml's rows fill them, the sync reads
// the address. Like resource.h it sits beside the layers, since all three need it.
constexpr int kHostColumn = 0;
constexpr int kAddressColumn = 1;
