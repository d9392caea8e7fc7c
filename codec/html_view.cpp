#include "codec/html_view.h"
