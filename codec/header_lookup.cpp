#include "codec/header_lookup.h"
