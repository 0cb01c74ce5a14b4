// The program: single-instance start, the services, the main window.
#ifndef MIROKATA_APP_APPLICATION_H_
#define MIROKATA_APP_APPLICATION_H_

namespace mirokata {

// Options: --home DIR (or MIROKATA_HOME) names the program folder.
int RunApplication(int argc, char** argv);

}  // namespace mirokata

#endif  // MIROKATA_APP_APPLICATION_H_
