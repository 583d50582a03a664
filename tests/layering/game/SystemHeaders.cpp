#include <GL/gl.h>
#include <SDL2/SDL.h>
