// Copying the region of the picture on show to the clipboard.
#pragma once

#include <gtk/gtk.h>

// A new pixbuf (caller unrefs) holding an independent copy of the w x h
// pixels of picture at (x, y), with picture's channels (alpha when it has
// one). NULL when the region is empty or not wholly inside the picture.
GdkPixbuf *copy_picture_region(GdkPixbuf *picture, int x, int y, int w, int h);

// "activate" handler of Edit > Copy: puts the calculation region of
// pixbuf_image on the CLIPBOARD selection and asks a clipboard manager to
// keep it. Does nothing for an empty or out-of-picture region. Arguments
// unused.
void pixbuf_to_clipboard(GtkWidget *widget, gpointer data);
