/* The setup record the host keeps for the module's setup sheet, byte for
   byte: packed, little-endian, offsets from the start of the record. The
   sheet reads and writes only the named fields; the reserved bytes, and any
   bytes a host keeps after the last field, are never touched.

   Text fields are NUL-terminated within their width: a name of at most 39
   characters, a date of at most 11, a path of at most 127, a header of at
   most 79. The int8 fields are signed; a check box holds 0 or 1. */
#ifndef ZELBA_BA_SETUP_H
#define ZELBA_BA_SETUP_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__)
#define ZELBA_SETUP_EXPORT __attribute__((visibility("default")))
#else
#define ZELBA_SETUP_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

#pragma pack(push, 1)

/* One binding of an engine input to a host variable. */
typedef struct BA_VARREF {
  char varName[40]; /* the host variable's name, at most 39 characters */
  int32_t varPos;   /* its 0-based position in the host's sorted variable list
                       when it was chosen; -1: no variable is bound */
} BA_VARREF;

typedef struct BA_SETUP {
  BA_VARREF welltestVars[10];  /* Welltest page: 0 Date, 1 Oil, 2 Gas, 3 Water,
                                  4 Water Inj, 5 Gas Inj, 6 Steam Inj,
                                  7 Pressure (THP), 8 Status */
  BA_VARREF measureVars[12];   /* Measurements page: 1 Oil, 2 Gas, 3 Water,
                                  4 Water Inj, 5 Gas Inj, 6 Steam Inj, 9 Stock */
  BA_VARREF writebackVars[12]; /* Writeback page: 0 Days/Hours, 1 Oil ... 6 Steam Inj */
  BA_VARREF timeVars[5];       /* Production Times page: 1 Hours,
                                  2 Facility Change, 3 Status */
  BA_VARREF equationVars[10];  /* Equations page: 0 Date, 1 KH or Value,
                                  2 Well Char Slope, 3 Well Char Yo,
                                  4 Decline Ref. Date, 5 Qi, 6 Di (1/month), 7 n */
  char pomCategory[40];        /* the category chosen as point of measurement */
  int32_t pomCategoryIndex;    /* its index in the sorted category list; -1 none */
  char category2[40];          /* a second category, carried through */
  int32_t category2Index;      /* its index in the sorted category list */
  uint8_t reserved1[20];
  float defaultHours; /* Production Times page: hours when there are no data */
  float pomShrinkage; /* Measurements page: shrinkage, 0.0 to 2.0 */
  uint8_t reserved2[4];
  char startDate[12];         /* Control page: start date text */
  char endDate[12];           /* Control page: end date text */
  int8_t downTimeFlag;        /* Production Times page: Down Time */
  int8_t gorFlag;             /* Welltest page: GOR */
  int8_t bswFlag;             /* Welltest page: BSW */
  int8_t createReport;        /* Control page: Create Report */
  int8_t createLoadFile;      /* Control page: Create ZEL Load File */
  int8_t createInputFile;     /* Control page: Create BA Input File */
  int8_t performMode;         /* Control page: 0 daily, 1 monthly, -1 neither */
  int8_t writebackFlag;       /* Control page: Writeback results */
  int8_t computeTheoreticals; /* Control page: Compute Theoreticals Volumes */
  uint8_t reserved3[1];
  char loadFilePath[128];   /* Control page: the load file */
  char reportFilePath[128]; /* Control page: the report file */
  char inputFilePath[128];  /* Control page: the engine input file */
  char header1[80];         /* Control page: report header lines */
  char header2[80];
  char header3[80];
  uint8_t reserved4[128];
  int8_t htmlFlag;        /* Control page: HTML */
  int8_t nominalFlag;     /* Equations page: Nominal */
  int8_t interpolateFlag; /* Equations page: Interpolate */
  int8_t bhpFlag;         /* Welltest page: BHP (a hidden box) */
  int8_t fractionFlag;    /* Welltest page: Fraction */
} BA_SETUP;

#pragma pack(pop)

/* Opens the modal "Back Allocation Setup" sheet on the host's record.
   Returns 1 when the user closed it with OK (the record holds the new
   setup), 0 otherwise (the record is unchanged; also for a null record).
   Creates the Qt application when the host has none (and there is a
   display); a host's own widget application is used as it is, from its
   thread only: on another thread, or with an application that shows no
   widgets, the sheet does not open and 0 is returned. */
ZELBA_SETUP_EXPORT int BaStart(BA_SETUP* setup);

#ifdef __cplusplus
}

static_assert(sizeof(BA_VARREF) == 44, "BA_VARREF is 44 bytes");
static_assert(offsetof(BA_VARREF, varPos) == 40, "BA_VARREF.varPos");
static_assert(offsetof(BA_SETUP, welltestVars) == 0, "welltestVars");
static_assert(offsetof(BA_SETUP, measureVars) == 440, "measureVars");
static_assert(offsetof(BA_SETUP, writebackVars) == 968, "writebackVars");
static_assert(offsetof(BA_SETUP, timeVars) == 1496, "timeVars");
static_assert(offsetof(BA_SETUP, equationVars) == 1716, "equationVars");
static_assert(offsetof(BA_SETUP, pomCategory) == 2156, "pomCategory");
static_assert(offsetof(BA_SETUP, pomCategoryIndex) == 2196, "pomCategoryIndex");
static_assert(offsetof(BA_SETUP, category2) == 2200, "category2");
static_assert(offsetof(BA_SETUP, category2Index) == 2240, "category2Index");
static_assert(offsetof(BA_SETUP, defaultHours) == 2264, "defaultHours");
static_assert(offsetof(BA_SETUP, pomShrinkage) == 2268, "pomShrinkage");
static_assert(offsetof(BA_SETUP, startDate) == 2276, "startDate");
static_assert(offsetof(BA_SETUP, endDate) == 2288, "endDate");
static_assert(offsetof(BA_SETUP, downTimeFlag) == 2300, "downTimeFlag");
static_assert(offsetof(BA_SETUP, gorFlag) == 2301, "gorFlag");
static_assert(offsetof(BA_SETUP, bswFlag) == 2302, "bswFlag");
static_assert(offsetof(BA_SETUP, createReport) == 2303, "createReport");
static_assert(offsetof(BA_SETUP, createLoadFile) == 2304, "createLoadFile");
static_assert(offsetof(BA_SETUP, createInputFile) == 2305, "createInputFile");
static_assert(offsetof(BA_SETUP, performMode) == 2306, "performMode");
static_assert(offsetof(BA_SETUP, writebackFlag) == 2307, "writebackFlag");
static_assert(offsetof(BA_SETUP, computeTheoreticals) == 2308, "computeTheoreticals");
static_assert(offsetof(BA_SETUP, loadFilePath) == 2310, "loadFilePath");
static_assert(offsetof(BA_SETUP, reportFilePath) == 2438, "reportFilePath");
static_assert(offsetof(BA_SETUP, inputFilePath) == 2566, "inputFilePath");
static_assert(offsetof(BA_SETUP, header1) == 2694, "header1");
static_assert(offsetof(BA_SETUP, header2) == 2774, "header2");
static_assert(offsetof(BA_SETUP, header3) == 2854, "header3");
static_assert(offsetof(BA_SETUP, htmlFlag) == 3062, "htmlFlag");
static_assert(offsetof(BA_SETUP, nominalFlag) == 3063, "nominalFlag");
static_assert(offsetof(BA_SETUP, interpolateFlag) == 3064, "interpolateFlag");
static_assert(offsetof(BA_SETUP, bhpFlag) == 3065, "bhpFlag");
static_assert(offsetof(BA_SETUP, fractionFlag) == 3066, "fractionFlag");
static_assert(sizeof(BA_SETUP) == 3067, "BA_SETUP is 3067 bytes");
#endif

#endif /* ZELBA_BA_SETUP_H */
