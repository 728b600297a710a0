/* A library that only carries the payload archive as a resource, for loading by name. */
int KestrelArchiveLibraryVersion = 1;
