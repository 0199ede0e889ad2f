#pragma once
// The texts that are ours to choose: the maker's notice, the support address
// and the postal address for donations. UTF-8.

namespace ferro {

constexpr const char* kCopyrightLine = "Copyright \u00A9 2004 Hollowmere";  // the splash
constexpr const char* kMakerNotice = "\u00A9 2004 Hollowmere";              // the main window's frame
constexpr const char* kSupportEmail = "support@hollowmere.example";

// One paragraph of rich text, as the About window shows and prints it.
constexpr const char* kDonationAddressLines[] = {
    "Hollowmere",
    "P.O. Box 482",
    "Wrenfield",
    "WR4 2RD",
};

}  // namespace ferro
