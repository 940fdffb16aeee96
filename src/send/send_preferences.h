#pragma once

#include "send/send_job.h"

struct AppContext;

// The sending dialog's choices as this desktop last made them (where above all), kept in the
// preferences; the name is not kept, it is made anew for each set.
SendChoices ReadSendChoices(const AppContext& context);
void WriteSendChoices(const AppContext& context, const SendChoices& choices);

// The folder of this desktop's notes of packages under way: beside the settings file.
std::string SendNotesFolder(const AppContext& context);
