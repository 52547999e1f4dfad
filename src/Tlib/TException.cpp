#include "Tlib/TException.h"

#include <cstdio>

_TException::_TException(int32_t code, TString name, TString message) : code(code)
{
    // Both texts are cut to fit their 1023 characters.
    std::snprintf(this->name, sizeof this->name, "%s", name.text ? name.text : "");
    std::snprintf(this->message, sizeof this->message, "%s", message.text ? message.text : "");
}
