#include "app/FileTypes.h"

using platform::FileType;
using platform::make_ref;
using platform::Ref;

namespace FileTypes {

Ref<FileType> pText;
Ref<FileType> pAudioWav;

namespace {

void declare(Ref<FileType>& cell, const char* name, const char* extensions, const char* type,
             const char* creator) {
    cell = make_ref<FileType>();
    cell->SetName(name);
    cell->SetExtensions(extensions);
    cell->SetMacType(type);
    cell->SetMacCreator(creator);
    // Converting the type to a string is what declares it.
    (void)cell->ToString();
}

} // namespace

void _Initialize() {
    declare(pText, "text", "", "TEXT", "R*ch");
    declare(pAudioWav, "audio/wav", ".wav;.bwf", ".WAV", "TVOD");
}

} // namespace FileTypes
