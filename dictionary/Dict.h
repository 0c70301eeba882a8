#pragma once
// The Dict module: entries, dictionaries and their files, free of any window.
#include "dictionary/DictFile.h"
#include "dictionary/DictHeader.h"
#include "dictionary/DictItem.h"
#include "dictionary/DictLinks.h"
#include "dictionary/DictList.h"
#include "dictionary/KeywordCollator.h"
#include "dictionary/Progress.h"
