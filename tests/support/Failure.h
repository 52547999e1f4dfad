// What a call that should fail threw: the exception's code and message, or (0, "no failure").
#pragma once
#include <string>
#include <utility>
using Said = std::pair<long, std::string>;

template <class Exception, class Call> std::pair<long, std::string> Failure(Call&& call)
{
    try
    {
        call();
    }
    catch (const Exception& e)
    {
        return {long(e.code), e.message};
    }
    return {0, "no failure"};
}
