#pragma once
// What both programs' --version prints under its name and version line, in
// GNU's form (help2man makes the manual's COPYRIGHT section of it). The
// windows keep showing the maker's notice (info/Branding.h).

namespace ferro {

constexpr const char* kVersionNotice =
    "Copyright (C) 2026 The FerroWinder authors\n"
    "License MIT: <https://opensource.org/licenses/MIT>\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

}  // namespace ferro
