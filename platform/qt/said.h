#pragma once

#include "messages.h"
#include "stdstrings.h"

#include <vector>

// A message's words (messages.h) for the Qt side, its arguments Qt strings.
inline QString said(Message id, std::initializer_list<QString> args = {})
{
    std::vector<std::u16string_view> views;
    views.reserve(args.size());
    for (const QString &arg : args)
        views.push_back(qtstd::view(arg));
    return qtstd::string(say(id, views));
}
