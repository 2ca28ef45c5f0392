#pragma once

#include "platform/base/Ref.h"
#include "platform/compat/FileType.h"

// The two document types the application declares to the platform at start-up. It opens no
// documents; the declarations are all there is to them.
namespace FileTypes {

extern platform::Ref<platform::FileType> pText;
extern platform::Ref<platform::FileType> pAudioWav;

// Builds both types and declares them.
void _Initialize();

} // namespace FileTypes
