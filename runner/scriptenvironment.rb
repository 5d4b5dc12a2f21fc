# Evaluated once when the runtime starts, before any script runs.
#
# A script runs inside the editor's process. What would end, replace or duplicate that process
# is refused with an error that ends only the script; what a script expects of the `ruby`
# command (child processes writing where the script writes, at_exit blocks, threads ended with
# it) is given to it for the length of its run. The runner sets @output, @errors, @input,
# @at_exit_blocks, @children and @threads on this module while a script runs and clears them
# afterwards, @child_job with them.
# Text is in the system's coding, as the host's is: the runtime on Windows would otherwise read
# and write UTF-8 whatever the ANSI code page (elsewhere the two are the same already).
Encoding.default_external = Encoding.find("locale")

module Korvex
  class << self
    # The run's standard output, error and input streams, the blocks the script registered
    # with at_exit, the pids of the child processes it started, and the threads there were
    # before it; all nil between runs.
    attr_reader :output, :errors, :input, :at_exit_blocks, :children, :threads
  end

  # Raised by exit!: ends the script like exit, but skips its at_exit blocks, as exit! does.
  class ExitBang < SystemExit
  end

  # Process.kill and Kernel#spawn as the runtime defines them, before the wrapping below.
  KILL = Process.method(:kill)
  SPAWN = Kernel.instance_method(:spawn)

  # So that a Stop ends what the children a script started started in turn, each child gets a
  # process group of its own; Windows has none, and there the children of a run go into a job
  # object of the run (ChildJob, defined by the runner), which ends them all.
  CHILD_GROUPS = !RUBY_PLATFORM.match?(/mswin|mingw/)
  # What asks a stopped script's child to end, as Ctrl+C in a terminal would; Windows ends
  # another process only for good.
  STOP_SIGNAL = CHILD_GROUPS ? :TERM : :KILL

  # Records @pid as a child the running script started; answers @pid.
  def self.started_child(pid)
    return pid unless @children && pid
    @children << pid
    (@child_job ||= ChildJob.new).add(pid) unless CHILD_GROUPS
    pid
  end

  # The options of a process-starting call with the child in a process group of its own,
  # unless the script chose one.
  def self.own_group(options)
    return options unless CHILD_GROUPS && @children && !options.key?(:pgroup)
    options.merge(pgroup: true)
  end

  # Called by the runner when the script is stopped, before it is interrupted: the children it
  # started that still run (and what they started) are asked to end, as Ctrl+C in a terminal
  # would, so that a script waiting for one does not go on waiting.
  def self.stop_children
    @child_job&.terminate
    (@children || []).each { |pid| signal_child(STOP_SIGNAL, pid) if running_child?(pid) }
  end

  # Called by the runner at the end of a stopped run: what still runs of those children is
  # ended for good, and every one of them is reaped.
  def self.reap_children
    @child_job&.terminate
    (@children || []).each do |pid|
      next unless running_child?(pid)
      signal_child(:KILL, pid)
      begin
        Process.wait(pid)
      rescue SystemCallError
        nil
      end
    end
  end

  # Whether @pid still runs as a child of ours; one that has just ended is reaped here. A pid
  # that was reaped already may belong to some other process by now, and is never signalled.
  def self.running_child?(pid)
    Process.wait(pid, Process::WNOHANG).nil?
  rescue SystemCallError
    false
  end

  def self.signal_child(signal, pid)
    KILL.call(signal, -pid)
  rescue SystemCallError
    begin
      KILL.call(signal, pid)
    rescue SystemCallError
      nil
    end
  end

  # The command's name in the message of `system(..., exception: true)`, as the runtime gives
  # it: the whole command line, or the program of an argument list.
  def self.command_name(args)
    command = args.find { |arg| !arg.is_a?(Hash) }
    command.is_a?(Array) ? command.first : command
  end

  # The standard streams of a child process a script starts, as under
  # `ruby script.rb < /dev/null 2>&1`: output and errors into the script's output, input at
  # its end. What the script redirects itself is left alone.
  STANDARD_FDS = {in: 0, out: 1, err: 2}.freeze

  def self.child_options(options, streams = %i[in out err])
    return options unless @output
    defaults = {in: @input, out: @output, err: @errors}.transform_values do |stream|
      next :close if stream.closed?
      # The child's output must follow what the script wrote before it.
      stream.flush unless stream.equal?(@input)
      stream
    end
    given = options.each_key.flat_map { |key| key.is_a?(Array) ? key : [key] }.map do |key|
      STANDARD_FDS.fetch(key) { key.is_a?(IO) ? (key.fileno rescue nil) : key }
    end
    streams.each_with_object(options.dup) do |stream, merged|
      merged[stream] = defaults[stream] unless given.include?(STANDARD_FDS[stream])
    end
  end

  # A child that runs on beside the script writes whenever it likes: from now on every write
  # of the script goes out at once, so the order stays as the writes happened.
  def self.concurrent_child
    @output.sync = true if @output && !@output.closed?
    yield
  end

  # Ends the threads a run started, as the end of a `ruby` process does, so that none of them
  # runs, or reports its failure, into a later run. A thread whose ensure clause does not end
  # within a second is left to itself rather than freeze the editor.
  def self.end_threads(before)
    started = Thread.list - before
    started.each(&:kill)
    deadline = Process.clock_gettime(Process::CLOCK_MONOTONIC) + 1
    started.each do |thread|
      thread.join([deadline - Process.clock_gettime(Process::CLOCK_MONOTONIC), 0].max)
    rescue Exception # rubocop:disable Lint/RescueException -- a thread's own end is its business
      nil
    end
  end

  # The options hash of a process-starting call: Ruby takes a trailing Hash as options.
  def self.split_options(args, options)
    return [args, options] unless options.empty? && args.size > 1 && args.last.is_a?(Hash)
    [args[0...-1], args.last]
  end

  # What Kernel and Process both offer.
  module ProcessStarts
    def spawn(*args, **options)
      args, options = Korvex.split_options(args, options)
      options = Korvex.own_group(Korvex.child_options(options))
      Korvex.started_child(Korvex.concurrent_child { super(*args, **options) })
    end

    def fork(*)
      raise NotImplementedError, "fork is not available in the editor"
    end

    def exec(*)
      raise NotImplementedError, "exec is not available in the editor"
    end

    def exit!(status = false)
      raise Korvex::ExitBang.new(status, "exit")
    end
  end

  module KernelFunctions
    include ProcessStarts

    def system(*args, **options)
      args, options = Korvex.split_options(args, options)
      options = Korvex.child_options(options)
      return super(*args, **options) unless Korvex.children
      # Started and waited for here, so that a Stop knows the child.
      exception = options[:exception]
      options = options.reject { |key, _| key == :exception }
      begin
        pid = Korvex::SPAWN.bind_call(self, *args, **Korvex.own_group(options))
      rescue SystemCallError
        # It could not start: the runtime's own system says so as it always does.
        return super(*args, **options, **(exception.nil? ? {} : {exception: exception}))
      end
      Korvex.started_child(pid)
      Process.wait(pid)
      status = $?
      return true if status.success?
      return false unless exception
      raise "Command failed with#{status.to_s.delete_prefix("pid #{pid}")}: #{Korvex.command_name(args)}"
    end

    def `(command)
      return super unless Korvex.output
      IO.popen(command, &:read)
    end

    def at_exit(&block)
      blocks = Korvex.at_exit_blocks
      return super unless blocks
      raise ArgumentError, "called without a block" unless block
      blocks << block
      block
    end

    def open(*args, **options, &block)
      target = args.first
      # A command: through popen, so that its standard streams are the script's.
      return IO.popen(target[1..], *args[1..], **options, &block) if target.is_a?(String) && target.start_with?("|")
      super
    end
  end

  # Kernel's functions are private methods of every object and public methods of Kernel.
  module PrivateKernelFunctions
    include KernelFunctions
    private(*KernelFunctions.instance_methods)
  end

  module ProcessFunctions
    include ProcessStarts

    def daemon(*)
      raise NotImplementedError, "fork is not available in the editor"
    end

    # Signals to the editor's own process or group would end or disturb it.
    def kill(signal, *pids)
      own = [Process.pid, 0, -1]
      own << -Process.getpgrp if Process.respond_to?(:getpgrp) # not on Windows
      if signal != 0 && pids.any? { |pid| own.include?(pid) }
        raise NotImplementedError, "signals to the editor's own process are not available in the editor"
      end
      super
    end
  end

  module ChildPipes
    def popen(*args, **options, &block)
      args, options = Korvex.split_options(args, options)
      command = args.find { |arg| !arg.is_a?(Hash) }
      raise NotImplementedError, "fork is not available in the editor" if command == "-"
      mode = args[args.index(command) + 1]
      mode = options.fetch(:mode, "r") unless mode.is_a?(String) || mode.is_a?(Integer)
      access = mode & (IO::WRONLY | IO::RDWR) if mode.is_a?(Integer)
      reads = access ? access != IO::WRONLY : mode.to_s.match?(/[r+]/)
      writes = access ? access != IO::RDONLY : mode.to_s.match?(/[w+]/)
      # The pipe is the child's input or output or both; the script's streams give the rest.
      streams = [:err]
      streams << :in unless writes
      streams << :out unless reads
      options = Korvex.own_group(Korvex.child_options(options, streams))
      if block
        return super(*args, **options) { |pipe|
          Korvex.started_child(pipe.pid)
          yield pipe
        }
      end
      pipe = Korvex.concurrent_child { super(*args, **options) }
      Korvex.started_child(pipe.pid)
      pipe
    end
  end

  # Every run refills ARGV in place; once frozen, no later run could get its lines.
  module KeepArgvOpen
    def freeze
      raise NotImplementedError, "freezing ARGV is not available in the editor"
    end
  end

  # The editor's own standard streams: closing or redirecting them would outlive the script.
  module KeepStandardStream
    %i[close close_read close_write reopen].each do |name|
      define_method(name) do |*|
        raise IOError, "#{name} of a standard stream is not available in the editor"
      end
    end
  end
end

Kernel.prepend(Korvex::PrivateKernelFunctions)
Kernel.singleton_class.prepend(Korvex::KernelFunctions)
Process.singleton_class.prepend(Korvex::ProcessFunctions)
IO.singleton_class.prepend(Korvex::ChildPipes)
ARGV.singleton_class.prepend(Korvex::KeepArgvOpen)
[STDIN, STDOUT, STDERR].each { |io| io.singleton_class.prepend(Korvex::KeepStandardStream) }
