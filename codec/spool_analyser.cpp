#include "codec/spool_analyser.h"
