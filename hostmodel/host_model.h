// The host's data-model classes, all families: fields and keys, entities
// and collections, categories and patterns, results, units and dates, XML.
// The engine does not use them; the stand-in host (host/) fills the entities
// from its production database and the setup sheet reads the categories.
#pragma once

#include "hostmodel/categories.h"
#include "hostmodel/entities.h"
#include "hostmodel/fields.h"
#include "hostmodel/model_object.h"
#include "hostmodel/results.h"
#include "hostmodel/units_dates.h"
#include "hostmodel/xml.h"
