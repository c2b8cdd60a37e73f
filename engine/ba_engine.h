/* Exported C entries of the ZelBA module. */
#ifndef ZELBA_BA_ENGINE_H
#define ZELBA_BA_ENGINE_H

#if defined(__GNUC__)
#define ZELBA_EXPORT __attribute__((visibility("default")))
#else
#define ZELBA_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Runs one back allocation on the input file at `path`. Returns 1 when the
   input held at least one node and a period end date, -1 otherwise (also for
   a null path, an unreadable file, or any internal failure). The engine is
   not re-entrant: its run state is process-wide, so a call made while
   another thread's run is going on waits for that run to end. */
ZELBA_EXPORT int BaEngineStart(char* path);

/* End hook called after the allocation of all fluids; does nothing. */
ZELBA_EXPORT void BAEnd(void);

/* Called once by the host after loading the module, before any other entry:
   registers the module's resources (its dialog forms, the report tree's
   bitmap, its texts) for every resource lookup of the process, and lets a
   run open the report viewer after a text report when the host runs a Qt
   widget application. A second call does nothing more. In a build without a
   user interface it does nothing. */
ZELBA_EXPORT void InitBaDLL(void);

#ifdef __cplusplus
}
#endif

#endif /* ZELBA_BA_ENGINE_H */
