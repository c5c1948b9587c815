#include "ui/controller.h"

#include "base/outcome.h"
#include "ui/editorview.h"
#include "ui/prompts.h"

namespace dedur {

bool Controller::failed(const Outcome& outcome) {
    if (outcome.ok()) return false;
    prompts_.showMessage(view_.owner(), outcome.message);
    return true;
}

} // namespace dedur
