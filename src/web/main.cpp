#include "web/page_startup.h"

// The page's program: started by the page's script once the module is
// loaded; GLUT's loop runs on the browser's frames from then on.
int main(int argc, char** argv) {
    start_page(&argc, argv);
    run_page();
    return 0;
}
