#pragma once
// JSON text for programs that read the tool's output (PowerShell's
// ConvertFrom-Json, dashboards). Written by hand: a library would be most
// of the Windows tool's size for a few strings.
#include <string>
#include <string_view>

namespace ferro {

// `text`, in the registry's single-byte encoding (Windows-1252), as a JSON
// string: quoted, and every byte outside printable ASCII as a \u escape, so
// that the output is ASCII whatever the console's code page.
std::string jsonString(std::string_view text);

}  // namespace ferro
