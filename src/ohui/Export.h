#pragma once

// The toolkit's classes are the executable's programming interface: exported by name.
#define OHUI_API __declspec(dllexport)
