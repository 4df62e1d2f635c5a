#pragma once

// The settings layout and file formats are those of this version; it is also the
// text written to the Version value at every load.
inline constexpr char VornVersion[] = "1.17";
inline constexpr char VornApplicationTitle[] = "VORN";
