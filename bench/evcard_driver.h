#pragma once
// A thin driver over Evolution's vCard parser (libebook-contacts), kept in
// its own translation unit so that GLib's headers never meet Qt's.

#include <cstddef>
#include <string>
#include <vector>

// Parses each text as one vCard object and visits every attribute and its
// values, the work an importer must do at least. Returns the number of
// values seen.
std::size_t evcardParseAll(const std::vector<std::string> &cards);
