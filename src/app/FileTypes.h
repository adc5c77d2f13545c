#pragma once

#include <memory>
#include <string>

// A document type the application registers with the system.
struct FileType {
    std::string Name;
    std::string Extensions;
    std::string MacType;
    std::string MacCreator;
};

namespace FileTypes {

// The plain-text type; registered at start-up, used by nothing afterwards.
extern std::unique_ptr<FileType> pText;

void Initialize();
void Release();

} // namespace FileTypes
