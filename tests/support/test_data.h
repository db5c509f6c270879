// The test data kept in the repository under tests/data/ (tests/data/README.md). A folder
// that is missing fails each test that reads it, with a message naming the folder, rather
// than stopping the whole test program.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

inline testing::AssertionResult TestDataFolderExists(const std::string& folder)
{
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "test data folder missing: " << folder
                                       << " (the repository keeps it under tests/data/)";
}
