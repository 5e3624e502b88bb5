#include "support/recorderservices.h"
