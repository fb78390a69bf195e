#pragma once

namespace kestrune {

inline constexpr char PageFileName[] = "temp.txt";
inline constexpr char ResultsFileName[] = "jieguo.txt";
// Held in the directory for the length of a run, so two runs never share
// temp.txt.
inline constexpr char LockFileName[] = "kestrune.lock";

} // namespace kestrune
