// Writes the benchmark's two generated tables to files, for timing
// kestrune-cli --compare as a user runs it (bench/compare-bench.sh).
// Usage: bench_compare_tables DIR [MEMBERS]   (default 1000000)
// Writes DIR/older.csv and DIR/newer.csv.
#include "tablegenerator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const std::filesystem::path &path, const std::string &text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    return static_cast<bool>(file);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3) {
        std::fputs("usage: bench_compare_tables DIR [MEMBERS]\n", stderr);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    const std::size_t members = argc == 3 ? std::strtoull(argv[2], nullptr, 10) : 1'000'000;
    if (members == 0) {
        std::fputs("MEMBERS must be a whole number of at least 1\n", stderr);
        return 2;
    }
    const kestrune::GeneratedTables tables = kestrune::GenerateExportTables(members);
    if (!WriteFile(directory / "older.csv", tables.older) ||
        !WriteFile(directory / "newer.csv", tables.newer)) {
        std::fprintf(stderr, "cannot write the tables in %s\n", argv[1]);
        return 1;
    }
    return 0;
}
