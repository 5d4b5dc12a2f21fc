out = []
[ArgumentError, TypeError, NameError, NoMethodError, ZeroDivisionError, KeyError, IndexError,
 RangeError, IOError, EOFError, Errno::ENOENT, StopIteration, FrozenError, NotImplementedError,
 RuntimeError, StandardError, Exception, ScriptError, SecurityError, Interrupt, SignalException.new("INT").class].each do |klass|
  begin
    raise klass, "from #{klass}" unless klass == SignalException
    raise klass.new("INT")
  rescue Exception => e
    out << e.class.name
  end
end
puts out.join(" ")
raise ZeroDivisionError, "divided by zero at last"
