#pragma once

#include "platform/files/file_failure.h"

#include <string>

// The French message for a failure: what could not be done to which item, then why (only why
// when the failure names no item).
std::string failureMessage(FileAction action, const FileFailure& failure);

// The French sentence that gives the reason of an errno value.
std::string reasonOfError(int code);
