// The record of created queues and semaphores that lets test isolation remove them all afterwards.
#ifndef SCM_PLATFORM_LINUX_IPCREGISTRY_H
#define SCM_PLATFORM_LINUX_IPCREGISTRY_H

namespace Platform
{
/// Kinds of named objects in the registry's lines.
constexpr char RegistryQueue = 'q';
constexpr char RegistrySemaphore = 's';

/// Appends "<kind> <posixName>" to the file named by SCM_IPC_REGISTRY, when set. Best effort: a failure to
/// record never fails the creation.
void RegisterCreatedIpcObject(char kind, const char* posixName);
} // namespace Platform

#endif
