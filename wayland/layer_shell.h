// The layer shell's client header, made from wayland/protocols: one of its requests has an
// argument called `namespace`, which C++ cannot take as a parameter name, so the header sees it
// under another name.
#pragma once

#define namespace namespace_
#include <wlr-layer-shell-unstable-v1-client-protocol.h>
#undef namespace
