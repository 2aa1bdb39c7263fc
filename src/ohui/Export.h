#pragma once

// The toolkit's classes are the executable's programming interface: exported by name.
// Only the toolkit's own sources (built with OHUI_EXPORTS) see them as exported: GCC also
// exports the type information of every other polymorphic class defined in a source that
// sees an exported class, such as the main window.
#ifdef OHUI_EXPORTS
#define OHUI_API __declspec(dllexport)
#else
#define OHUI_API
#endif
