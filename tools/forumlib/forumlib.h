// The two jobs of forumlib: a listing to a forum library file, and a file back to a listing.
#pragma once

#include <stdio.h>

#include <string>

// Turns a listing into the file's bytes; on a bad line returns false with the message in error.
bool ParseListing(const std::string& listing, std::string& file, std::string& error);

// Writes the listing of a forum library file to out; each entry line starts with its index and,
// when bRun, its command id (run + 1 + index). False (with error set) when it is no such file.
bool DumpLibrary(const std::string& file, bool bRun, unsigned long idRun, FILE* out,
                 std::string& error);
