// Builds a verbose listing of a large chapter in the archiver's layout: `topDirectories` folders
// at the root, each with `subDirectories` folders, each of those (and each top folder) holding
// `filesPerDirectory` files. Shared by the parser's tests and its benchmark.
#pragma once

#include <cstdio>
#include <string>

struct GeneratedListing {
    std::string text;
    size_t entries = 0;      // name lines written
    size_t directories = 0;  // directories below the root
    size_t files = 0;
    unsigned long long bytes = 0;
};

inline std::string GroupThousands(unsigned long long value)
{
    std::string digits = std::to_string(value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

inline GeneratedListing GenerateVerboseListing(int topDirectories, int subDirectories, int filesPerDirectory, bool withDirectoryLines = true)
{
    GeneratedListing listing;
    std::string& out = listing.text;
    out.reserve(static_cast<size_t>(topDirectories) * (subDirectories + 1) * (filesPerDirectory + 1) * 170);
    out += "JAR32 1.02 Multi-chapter archiver  Copyright (c) 2026 Quendal\r\n\r\n"
           "Archive: C:\\bench\\large.j   Created 2026-11-02 09:14:05   Modified 2026-12-01 08:03:41\r\n"
           "Analyzing chapter 1\r\n"
           "Filename\r\n"
           "       Original Attributes       Packed Method Chapters  Modified             Created\r\n"
           "-------------------------------------------------------------------------------------\r\n";
    char line[256];
    unsigned long long packed = 0;
    auto entry = [&](const std::string& path, unsigned long long size, bool directory) {
        ++listing.entries;
        out += std::to_string(listing.entries) + ") " + path + "\r\n";
        std::snprintf(line, sizeof(line), "%15llu %s %12llu %6d 1         2026-11-02 09:14:05  2026-11-02 09:14:05\r\n        0\r\n",
                      size, directory ? "....D" : "A....", size / 2, directory ? 0 : 4);
        out += line;
        packed += size / 2;
    };
    auto directory = [&](const std::string& path) {
        ++listing.directories;
        if (withDirectoryLines)
            entry(path, 0, true);
    };
    auto files = [&](const std::string& folder) {
        for (int f = 0; f < filesPerDirectory; ++f) {
            unsigned long long size = 100 + (listing.files % 9000);
            entry(folder + "\\file " + std::to_string(f) + ".dat", size, false);
            ++listing.files;
            listing.bytes += size;
        }
    };
    for (int t = 0; t < topDirectories; ++t) {
        std::string top = "top" + std::to_string(t);
        directory(top);
        files(top);
        for (int s = 0; s < subDirectories; ++s) {
            std::string sub = top + "\\sub" + std::to_string(s);
            directory(sub);
            files(sub);
        }
    }
    out += "-------------------------------------------------------------------------------------\r\n";
    out += "Total files listed: " + GroupThousands(listing.entries) + "\r\n";
    out += "Total bytes in files listed: " + GroupThousands(listing.bytes) + "\r\n";
    out += "Whole archived data ratio: " + GroupThousands(packed) + " / " + GroupThousands(listing.bytes) + " bytes\r\n";
    return listing;
}
