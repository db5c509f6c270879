// --check-data: the data set the demo would load, checked with the demo's own readers
// and printed as a table, one line per file. Opens no window.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct DataFileCheck {
    std::string file;       // "megadata\\envmap.png", as the demo names it
    bool ok = false;
    std::string detail;     // what was found, or the problem in words
};

// Every file of the data set in loading order, then the soundtrack.
std::vector<DataFileCheck> CheckDataSet();

// Prints the table (and each problem once more at the end); 0 when all is well, else 1.
int RunDataCheck(FILE* out);
