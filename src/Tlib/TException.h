// The toolkit's exceptions: an error class word (not shown) and a message (shown).
#pragma once

#include "Tlib/TString.h"

#include <cstdint>

class _TException
{
  public:
    int32_t code;
    char name[1024];
    char message[1024];

    _TException(int32_t code, TString name, TString message);
};

class _TFileException : public _TException
{
  public:
    using _TException::_TException;
};

class _TFormException : public _TException
{
  public:
    using _TException::_TException;
};
