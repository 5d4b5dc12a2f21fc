STDOUT.puts "x"
require "logger"
logger = Logger.new(STDERR)
logger.formatter = proc { |severity, _, _, message| "#{severity} #{message}\n" }
logger.info "y"
system("echo", "z")
