#include "codec/japanese_text.h"
