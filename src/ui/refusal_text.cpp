#include "ui/refusal_text.h"

#include <string>

#include "resources/texts.h"

namespace {

// ERROR_ACCESS_DENIED, by its platform value.
constexpr unsigned long kErrorAccessDenied = 5;

}  // namespace

Text RequestRefusalReason(unsigned long error) {
    if (error == kErrorAccessDenied) {
        return kReasonNeedsAdministrator;
    }
    return Text(kReasonRefusedPrefix) + std::to_string(error) + ")";
}
