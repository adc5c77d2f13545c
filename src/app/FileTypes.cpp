#include "app/FileTypes.h"

namespace FileTypes {

std::unique_ptr<FileType> pText;

void Initialize() {
    pText = std::make_unique<FileType>();
    pText->Name = "text";
    pText->Extensions = "";
    pText->MacType = "TEXT";
    pText->MacCreator = "R*ch";
}

void Release() {
    pText.reset();
}

} // namespace FileTypes
